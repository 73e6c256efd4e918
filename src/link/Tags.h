#pragma once
// Data-type tags of the register protocol. A request's data field is built by a
// write tag, an answer's data field is read by a read tag. Inside the program they
// are enums; a tag may also be written as its protocol name ("LG", "Tx", ...) in
// code, which is checked while compiling: a misspelt tag does not build.

#include <QString>

namespace vx {

// The text tags differ in the bytes they drop: "Tx" line feeds (0A), "Tx0" line
// feeds and NULs (00), "Tx1" none. The sequence that reads chooses.
enum class ReadKind { LG, Tx, Tx1, Tx0, ID, IDB, STP, Tarih, Hex };
enum class WriteKind { LG, BY, TX, ID, IDH, SPT };

namespace detail {
consteval bool sameText(const char *a, const char *b)
{
    while (*a && *b && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
consteval char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
consteval bool sameTextIgnoringCase(const char *a, const char *b)
{
    while (*a && *b && upper(*a) == upper(*b)) {
        ++a;
        ++b;
    }
    return *a == *b;
}
// Called only in constant evaluation; reaching it makes the build fail.
inline void unknownTag() {}
}  // namespace detail

// Answer decoding tags: exact, case-sensitive names.
class ReadTag {
public:
    constexpr ReadTag(ReadKind kind) : m_kind(kind) {}
    consteval ReadTag(const char *name) : m_kind(parse(name)) {}
    constexpr ReadKind kind() const { return m_kind; }
    friend constexpr bool operator==(ReadTag a, ReadTag b) { return a.m_kind == b.m_kind; }
    QString name() const;
    static constexpr ReadKind All[] = {ReadKind::LG, ReadKind::Tx, ReadKind::Tx1, ReadKind::Tx0, ReadKind::ID,
                                       ReadKind::IDB, ReadKind::STP, ReadKind::Tarih, ReadKind::Hex};

private:
    static consteval ReadKind parse(const char *n)
    {
        using detail::sameText;
        if (sameText(n, "LG")) return ReadKind::LG;
        if (sameText(n, "Tx")) return ReadKind::Tx;
        if (sameText(n, "Tx1")) return ReadKind::Tx1;
        if (sameText(n, "Tx0")) return ReadKind::Tx0;
        if (sameText(n, "ID")) return ReadKind::ID;
        if (sameText(n, "IDB")) return ReadKind::IDB;
        if (sameText(n, "STP")) return ReadKind::STP;
        if (sameText(n, "Tarih")) return ReadKind::Tarih;
        if (sameText(n, "Hex")) return ReadKind::Hex;
        detail::unknownTag();  // not a read tag: not a constant expression
        return ReadKind::LG;
    }
    ReadKind m_kind;
};

// Request data tags: the callers' spellings "Lg", "By" are the same tags as "LG", "BY".
class WriteTag {
public:
    constexpr WriteTag(WriteKind kind) : m_kind(kind) {}
    consteval WriteTag(const char *name) : m_kind(parse(name)) {}
    constexpr WriteKind kind() const { return m_kind; }
    friend constexpr bool operator==(WriteTag a, WriteTag b) { return a.m_kind == b.m_kind; }
    QString name() const;

private:
    static consteval WriteKind parse(const char *n)
    {
        using detail::sameTextIgnoringCase;
        if (sameTextIgnoringCase(n, "LG")) return WriteKind::LG;
        if (sameTextIgnoringCase(n, "BY")) return WriteKind::BY;
        if (sameTextIgnoringCase(n, "TX")) return WriteKind::TX;
        if (sameTextIgnoringCase(n, "ID")) return WriteKind::ID;
        if (sameTextIgnoringCase(n, "IDH")) return WriteKind::IDH;
        if (sameTextIgnoringCase(n, "SPT")) return WriteKind::SPT;
        detail::unknownTag();  // not a write tag: not a constant expression
        return WriteKind::LG;
    }
    WriteKind m_kind;
};

}  // namespace vx
