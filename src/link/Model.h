#pragma once
// The indicator model. Inside the program it is an enum; the names "ZR1" and
// "ZR2" appear only where a model is read from or shown as text.

#include <QString>

namespace vx {

enum class Model {
    None,   // not chosen yet
    ZR1,
    ZR2,
    Other,  // a version text that names neither model
};

// "ZR1" and "ZR2" exactly; an empty text is None, any other text Other.
Model ModelFromText(const QString &name);
// "ZR1", "ZR2"; empty for None and Other.
QString ModelName(Model model);

}  // namespace vx
