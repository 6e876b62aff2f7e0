#pragma once

namespace Platform {

// Why an update check, download or installation failed.
enum class UpdateFailure {
    unreachable,     // no connection, or the server's certificate was refused
    timedOut,        // the server stayed silent
    insecureAddress, // the feed, a redirect or the download is not https
    serverError,     // the server answered with an error status
    feedTooLarge,
    malformedFeed,
    wrongLength,  // the download is not as long as the feed says
    badSignature, // the download is not signed with the application's key
    installFailed,
};

} // namespace Platform
