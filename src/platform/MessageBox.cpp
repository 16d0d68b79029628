#include "platform/MessageBox.h"

#include <cstdio>

namespace {
CStderrMessageSink stderrSink;
CMessageSink* currentSink = &stderrSink;
}  // namespace

void ShowMessageBox(const std::string& text, MessageIcon icon)
{
    currentSink->Show(text, icon);
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
