#include "settings/app_ini_file_storage.h"

namespace quittung {

// Flushing needs the content of the whole object, which a base destructor no longer has.
TJvAppIniFileStorage::~TJvAppIniFileStorage()
{
    if (FlushOnDestroy())
        Flush();
}

} // namespace quittung
