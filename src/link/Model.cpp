#include "link/Model.h"

namespace vx {

Model ModelFromText(const QString &name)
{
    if (name.isEmpty())
        return Model::None;
    if (name == QLatin1String("ZR1"))
        return Model::ZR1;
    if (name == QLatin1String("ZR2"))
        return Model::ZR2;
    return Model::Other;
}

QString ModelName(Model model)
{
    switch (model) {
    case Model::ZR1:
        return QStringLiteral("ZR1");
    case Model::ZR2:
        return QStringLiteral("ZR2");
    case Model::None:
    case Model::Other:
        break;
    }
    return {};
}

}  // namespace vx
