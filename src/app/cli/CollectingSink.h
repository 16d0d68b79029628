// The command line's message sink: every message the window would show becomes one line
// on the error stream, and the first is kept for the summary line of --check.
#pragma once

#include "platform/MessageBox.h"

#include <iosfwd>
#include <string>

class CCollectingSink : public CMessageSink {
public:
    // Installs itself for the calling thread for its lifetime.
    explicit CCollectingSink(std::ostream& stream);
    ~CCollectingSink() override;
    CCollectingSink(const CCollectingSink&) = delete;
    CCollectingSink& operator=(const CCollectingSink&) = delete;

    void Show(const std::string& text, MessageIcon icon) override;
    // The text on one line: line breaks become blanks, carriage returns go.
    static std::string OneLine(const std::string& text);

    std::string first;  // the first message, empty when none was shown
    int count = 0;

private:
    std::ostream& err;
    CMessageSink* previous;
};
