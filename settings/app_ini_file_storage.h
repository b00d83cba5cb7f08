#pragma once

#include "settings/app_ini_storage.h"

namespace quittung {

// The INI file store. Set FileName, Location and DefaultSection, then call Loaded() to read the
// file; reads and writes then work on memory, and the file is written when the store is destroyed
// (FlushOnDestroy) or flushed.
class TJvAppIniFileStorage final : public TJvCustomAppIniStorage {
public:
    TJvAppIniFileStorage() = default;
    ~TJvAppIniFileStorage() override;
};

} // namespace quittung
