#include "app/cli/CollectingSink.h"

#include <ostream>

CCollectingSink::CCollectingSink(std::ostream& stream)
    : err(stream), previous(SetThreadMessageSink(this))
{
}

CCollectingSink::~CCollectingSink()
{
    SetThreadMessageSink(previous);
}

void CCollectingSink::Show(const std::string& text, MessageIcon)
{
    std::string line = OneLine(text);
    err << line << '\n';
    if (count++ == 0)
        first = line;
}

std::string CCollectingSink::OneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        line += c == '\n' ? ' ' : c;
    }
    return line;
}
