#pragma once

#include "services/MessagePresenter.h"

#include <cstdio>

// Counts the program's messages for a benchmark and prints each on standard error.
class CountingPresenter : public MessagePresenter
{
public:
    void present(const QString &, const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++count;
    }
    int count = 0;
};
