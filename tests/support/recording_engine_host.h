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

    // Progress calls as "start:<message>", "message:<message>", "stop"; the user clicks Cancel
    // while the cancelAfterMessages-th message set after the start is shown.
    void ProgressStart(const QString& message) override { progress << QStringLiteral("start:") + message; }
    void ProgressSetMessage(const QString& message) override
    {
        progress << QStringLiteral("message:") + message;
        ++m_messages;
    }
    bool ProgressTerminated() override { return cancelAfterMessages > 0 && m_messages >= cancelAfterMessages; }
    void ProgressStop() override { progress << QStringLiteral("stop"); }
    void ProcessMessages() override { ++processed; }
    void OpenFile(const QString& path) override { opened << path; }

    QStringList shown;
    bool answer = true;
    QStringList progress;
    int cancelAfterMessages = 0; // 0: never
    int processed = 0;
    QStringList opened;

private:
    quittung::EngineHost* m_before;
    int m_messages = 0;
};
