#include "platform/MessageBox.h"

#include <cstdio>

namespace {
CStderrMessageSink stderrSink;
CMessageSink* currentSink = &stderrSink;
// A worker thread of the command line keeps its file's messages apart from the others'.
thread_local CMessageSink* threadSink = nullptr;
}  // namespace

void ShowMessageBox(const std::string& text, MessageIcon icon)
{
    (threadSink ? threadSink : currentSink)->Show(text, icon);
}

CMessageSink* SetThreadMessageSink(CMessageSink* sink)
{
    CMessageSink* old = threadSink;
    threadSink = sink;
    return old;
}

CMessageSink* SetMessageSink(CMessageSink* sink)
{
    CMessageSink* old = currentSink;
    currentSink = sink ? sink : &stderrSink;
    return old;
}

void CStderrMessageSink::Show(const std::string& text, MessageIcon /*icon*/)
{
    std::string line;
    line.reserve(text.size());
    for (char c : text)
        line += (c == '\n' || c == '\r') ? ' ' : c;
    std::fprintf(stderr, "%s\n", line.c_str());
}

CRecordingMessageSink::CRecordingMessageSink() : previous(SetMessageSink(this)) {}

CRecordingMessageSink::~CRecordingMessageSink()
{
    SetMessageSink(previous);
}

void CRecordingMessageSink::Show(const std::string& text, MessageIcon icon)
{
    texts.push_back(text);
    icons.push_back(icon);
}
