// The system's seams build where no Qt is, and sit below the Qt layer.
#include "platform/dialog.h"
#include <QThread>
