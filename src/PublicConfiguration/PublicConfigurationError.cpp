#include "PublicConfiguration/PublicConfigurationError.h"

const char* PublicConfigurationError::what() const noexcept
{
    switch (kind_) {
    case Kind::invalidData:
        return "invalidData";
    case Kind::unsupportedSchema:
        return "unsupportedSchema";
    case Kind::missingOrDuplicateRecord:
        return "missingOrDuplicateRecord";
    case Kind::olderRevision:
        return "olderRevision";
    }
    return "invalidData";
}
