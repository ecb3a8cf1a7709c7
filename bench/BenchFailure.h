#pragma once

#include "core/AppError.h"

#include <cstdio>
#include <exception>

// A benchmark that fails prints why on stderr and exits 1, with the error number where the
// program has one.
inline int reportFailure(const std::exception &error)
{
    if (const auto *appError = dynamic_cast<const AppError *>(&error))
        std::fprintf(stderr, "%d - %s\n", appError->number(), qPrintable(appError->description()));
    else
        std::fprintf(stderr, "%s\n", error.what());
    return 1;
}
