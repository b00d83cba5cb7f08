#include "report/document/engine_host.h"

#include <cstdio>

namespace quittung::report {

namespace {

class StandardErrorHost : public EngineHost {
public:
    void showMessage(const QString& caption, const QString& text, Icon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override
    {
        showMessage(caption, text, icon);
        return false;
    }
};

EngineHost* current = nullptr;

} // namespace

void EngineHost::progressStart(const QString&) {}
void EngineHost::progressSetMessage(const QString&) {}
bool EngineHost::progressTerminated()
{
    return false;
}
void EngineHost::progressStop() {}
void EngineHost::processMessages() {}
void EngineHost::openFile(const QString&) {}

EngineHost& engineHost()
{
    static StandardErrorHost fallback;
    return current ? *current : fallback;
}

EngineHost* setEngineHost(EngineHost* host)
{
    EngineHost* before = current;
    current = host;
    return before;
}

} // namespace quittung::report
