#pragma once

#include <QString>
#include <QtGlobal>

#include <unicode/ucol.h>

#include <memory>

// ICU's Swedish collation at primary strength, asked directly: the judge the folds of the search
// are checked against.
namespace IcuSwedish {

inline bool equalAtPrimary(const QString &a, const QString &b)
{
    struct Closer
    {
        void operator()(UCollator *collator) const { ucol_close(collator); }
    };
    static const std::unique_ptr<UCollator, Closer> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, Closer> opened(ucol_open("sv", &status));
        if (U_FAILURE(status))
            qFatal("ICU has no collation sv");
        ucol_setStrength(opened.get(), UCOL_PRIMARY);
        return opened;
    }();
    return ucol_strcoll(collator.get(), reinterpret_cast<const UChar *>(a.utf16()),
                        int32_t(a.size()), reinterpret_cast<const UChar *>(b.utf16()),
                        int32_t(b.size())) == UCOL_EQUAL;
}

} // namespace IcuSwedish
