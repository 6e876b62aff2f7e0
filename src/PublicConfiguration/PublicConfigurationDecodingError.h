#pragma once

#include <stdexcept>

// JSON that does not have the shape of a public configuration or of its products: not JSON,
// a missing key, a value of the wrong type. The text says where, for diagnostics.
class PublicConfigurationDecodingError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
