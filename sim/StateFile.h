#pragma once
// The virtual indicator's state file (vextora-sim --state): one "INDEX=VALUE" line
// per register that holds a value, both decimal, and the two identification texts
// as model="..." and second="..." lines. Blank lines and lines starting with "#"
// are skipped.

#include "sim/RegisterBank.h"

#include <QString>
#include <map>
#include <optional>

namespace vx::sim {

// What a state file holds, checked line by line before anything uses it.
struct StateImage {
    std::map<int, quint16> words;
    std::optional<QString> model;   // the model="..." line, without its quotes
    std::optional<QString> second;  // the second="..." line
};

// Reads a state file. A missing, unreadable or damaged file gives nothing and
// sets *error to "PATH: why" ("PATH:LINE: why" for a bad line).
std::optional<StateImage> ReadStateFile(const QString &path, QString *error = nullptr);

// Writes the registers of bank, replacing the file at once. A text register pair
// that a text line carries exactly is written as that line only; otherwise its
// registers follow as numbers too (characters a text file cannot show become "?").
bool WriteStateFile(const QString &path, const RegisterBank &bank, QString *error = nullptr);

}  // namespace vx::sim
