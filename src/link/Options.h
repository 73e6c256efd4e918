#pragma once
// Option values the window, the command-line tool and the simulator all take on
// their command lines, parsed once. Each returns nothing for a text it does not
// accept, so every program words its own usage error.

#include "link/Model.h"

#include <QString>
#include <optional>

namespace vx {

// "on" or "off", in any case, blanks around ignored.
std::optional<bool> ParseOnOff(const QString &text);

// A device address: empty (no address field) or a number 0..99 of one or two
// digits, given back as the two digits the settings store keeps ("7" -> "07").
std::optional<QString> ParseAddressOption(const QString &text);

// "ZR1" or "ZR2", in any case.
std::optional<Model> ParseModelOption(const QString &text);

// "COMn=PATH" with n from 1 to 16: COMn is the serial device PATH for this run.
struct ComMapping {
    int number = 0;
    QString path;
};
std::optional<ComMapping> ParseComMapping(const QString &text);

// --settings FILE: a file that does not exist yet starts an empty store; an existing
// one must be a regular file that can be read (a folder, a FIFO or an unreadable file
// would silently give the defaults, or block). Nothing when FILE will do, else why not.
std::optional<QString> SettingsFileProblem(const QString &path);

}  // namespace vx
