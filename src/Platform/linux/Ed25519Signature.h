#pragma once

#include <QByteArray>

namespace Platform::Ed25519Signature {

// Whether `signature` (64 bytes) signs `message` under `publicKey` (32 raw bytes).
bool verify(const QByteArray& publicKey, const QByteArray& signature, const QByteArray& message);

} // namespace Platform::Ed25519Signature
