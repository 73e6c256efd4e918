// Qt's top include folder holds every module's folder: a core room must not reach
// the widgets through it.
#include <QtWidgets/QPushButton>
