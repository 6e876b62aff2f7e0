#pragma once

#include <exception>

// The failures of the public configuration. They carry no text and are never shown: the
// store turns every failure into its `failed` status.
class PublicConfigurationError final : public std::exception {
public:
    enum class Kind { invalidData, unsupportedSchema, missingOrDuplicateRecord, olderRevision };

    explicit PublicConfigurationError(Kind kind)
        : kind_(kind)
    {}

    static PublicConfigurationError invalidData() { return PublicConfigurationError(Kind::invalidData); }

    Kind kind() const { return kind_; }
    // The case's name, for diagnostics.
    const char* what() const noexcept override;

    bool operator==(const PublicConfigurationError& other) const = default;

private:
    Kind kind_;
};
