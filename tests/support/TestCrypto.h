#pragma once

#include <QByteArray>
#include <QSslConfiguration>

// Throw-away keys made per test: a TLS identity for a loopback server and an Ed25519 key
// that signs update files.
namespace TestCrypto {

// A self-signed certificate for 127.0.0.1 with its key, and a client configuration that
// trusts it alone.
struct TlsIdentity {
    QSslConfiguration server;
    QSslConfiguration client;
};
TlsIdentity makeLoopbackIdentity();

struct Ed25519Key {
    QByteArray publicKey; // 32 raw bytes
    QByteArray privateKey;

    QByteArray sign(const QByteArray& message) const;
};
Ed25519Key makeEd25519Key();

} // namespace TestCrypto
