// A core room does not see the widgets' include folder.
#include <QPushButton>
