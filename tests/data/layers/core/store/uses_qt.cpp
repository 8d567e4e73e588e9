// The core must build without Qt.
#include <QString>
