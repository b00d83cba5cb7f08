#pragma once

#include "report/document/engine_host.h"

#include <QStringList>

// Records what the report engine would show the user, for as long as it lives.
class RecordingEngineHost : public quittung::EngineHost {
public:
    RecordingEngineHost() : m_before(quittung::setEngineHost(this)) {}
    ~RecordingEngineHost() override { quittung::setEngineHost(m_before); }
    RecordingEngineHost(const RecordingEngineHost&) = delete;
    RecordingEngineHost& operator=(const RecordingEngineHost&) = delete;

    void ShowMessage(const QString& caption, const QString& text, Icon) override
    {
        shown << caption + QLatin1Char('|') + text;
    }
    bool AskYesNo(const QString& caption, const QString& text, Icon icon) override
    {
        ShowMessage(caption, text, icon);
        return answer;
    }

    QStringList shown;
    bool answer = true;

private:
    quittung::EngineHost* m_before;
};
