#pragma once

#include "report/document/engine_host.h"

#include <QStringList>

// Records what the report engine would show the user, for as long as it lives.
class RecordingEngineHost : public quittung::report::EngineHost {
public:
    RecordingEngineHost() : m_before(quittung::report::setEngineHost(this)) {}
    ~RecordingEngineHost() override { quittung::report::setEngineHost(m_before); }
    RecordingEngineHost(const RecordingEngineHost&) = delete;
    RecordingEngineHost& operator=(const RecordingEngineHost&) = delete;

    void showMessage(const QString& caption, const QString& text, Icon) override
    {
        shown << caption + QLatin1Char('|') + text;
    }
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override
    {
        showMessage(caption, text, icon);
        return answer;
    }

    // Progress calls as "start:<message>", "message:<message>", "stop"; the user clicks Cancel
    // while the cancelAfterMessages-th message set after the start is shown.
    void progressStart(const QString& message) override { progress << QStringLiteral("start:") + message; }
    void progressSetMessage(const QString& message) override
    {
        progress << QStringLiteral("message:") + message;
        ++m_messages;
    }
    bool progressTerminated() override { return cancelAfterMessages > 0 && m_messages >= cancelAfterMessages; }
    void progressStop() override { progress << QStringLiteral("stop"); }
    void processMessages() override { ++processed; }
    void openFile(const QString& path) override { opened << path; }

    QStringList shown;
    bool answer = true;
    QStringList progress;
    int cancelAfterMessages = 0; // 0: never
    int processed = 0;
    QStringList opened;

private:
    quittung::report::EngineHost* m_before;
    int m_messages = 0;
};
