// Message boxes with an OK button, reachable from code that must stay free of Qt.
// The window installs a Qt sink, the command line writes to stderr, tests record.
#pragma once

#include <string>
#include <vector>

enum class MessageIcon { None, Error, Warning, Information };

class CMessageSink {
public:
    virtual ~CMessageSink() = default;
    virtual void Show(const std::string& text, MessageIcon icon) = 0;
};

// Shows text through the installed sink (standard error when none is installed).
void ShowMessageBox(const std::string& text, MessageIcon icon = MessageIcon::None);

// Installs sink (nullptr restores the standard-error sink); returns the previous one.
CMessageSink* SetMessageSink(CMessageSink* sink);
// Installs sink for the calling thread only, ahead of the one SetMessageSink installed
// (nullptr: that one again); returns the thread's previous one.
CMessageSink* SetThreadMessageSink(CMessageSink* sink);

// Writes each message as one line to standard error.
class CStderrMessageSink : public CMessageSink {
public:
    void Show(const std::string& text, MessageIcon icon) override;
};

// Keeps every message; installs itself for its lifetime (tests).
class CRecordingMessageSink : public CMessageSink {
public:
    CRecordingMessageSink();
    ~CRecordingMessageSink() override;
    CRecordingMessageSink(const CRecordingMessageSink&) = delete;
    CRecordingMessageSink& operator=(const CRecordingMessageSink&) = delete;

    void Show(const std::string& text, MessageIcon icon) override;

    std::vector<std::string> texts;
    std::vector<MessageIcon> icons;

private:
    CMessageSink* previous;
};
