#include "report/document/engine_host.h"

#include <cstdio>

namespace quittung {

namespace {

class StandardErrorHost : public EngineHost {
public:
    void ShowMessage(const QString& caption, const QString& text, Icon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    bool AskYesNo(const QString& caption, const QString& text, Icon icon) override
    {
        ShowMessage(caption, text, icon);
        return false;
    }
};

EngineHost* current = nullptr;

} // namespace

void EngineHost::ProgressStart(const QString&) {}
void EngineHost::ProgressSetMessage(const QString&) {}
bool EngineHost::ProgressTerminated()
{
    return false;
}
void EngineHost::ProgressStop() {}
void EngineHost::ProcessMessages() {}
void EngineHost::OpenFile(const QString&) {}

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

} // namespace quittung
