#include "support/TestCrypto.h"

#include <QSslCertificate>
#include <QSslKey>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace TestCrypto {

namespace {

constexpr long validSeconds = 24 * 60 * 60;

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

void require(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(what);
}

template <typename Write> QByteArray pem(Write write)
{
    const std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    require(write(bio.get()) == 1, "PEM output");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QByteArray(data, size);
}

} // namespace

TlsIdentity makeLoopbackIdentity()
{
    const Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    require(bool(key), "EC key");
    const std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), validSeconds);
    X509_set_pubkey(certificate.get(), key.get());
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"),
                               -1, -1, 0);
    X509_set_issuer_name(certificate.get(), name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate.get(), certificate.get(), nullptr, nullptr, 0);
    for (const auto& [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                                     std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
        require(extension != nullptr, "extension");
        X509_add_ext(certificate.get(), extension, -1);
        X509_EXTENSION_free(extension);
    }
    require(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "certificate signature");

    const QSslCertificate qtCertificate(
        pem([&](BIO* bio) { return PEM_write_bio_X509(bio, certificate.get()); }));
    const QSslKey qtKey(pem([&](BIO* bio) {
                            return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr,
                                                            nullptr);
                        }),
                        QSsl::Ec);
    TlsIdentity identity;
    identity.server = QSslConfiguration::defaultConfiguration();
    identity.server.setLocalCertificate(qtCertificate);
    identity.server.setPrivateKey(qtKey);
    identity.client = QSslConfiguration::defaultConfiguration();
    identity.client.setCaCertificates({qtCertificate});
    return identity;
}

QByteArray Ed25519Key::sign(const QByteArray& message) const
{
    const Key key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr,
                                               reinterpret_cast<const unsigned char*>(privateKey.constData()),
                                               size_t(privateKey.size())),
                  EVP_PKEY_free);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    require(key && EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1, "sign init");
    QByteArray signature(64, '\0');
    size_t length = size_t(signature.size());
    require(EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                           reinterpret_cast<const unsigned char*>(message.constData()),
                           size_t(message.size())) == 1,
            "sign");
    return signature;
}

Ed25519Key makeEd25519Key()
{
    const Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), EVP_PKEY_free);
    require(bool(key), "Ed25519 key");
    Ed25519Key result{QByteArray(32, '\0'), QByteArray(32, '\0')};
    size_t length = 32;
    EVP_PKEY_get_raw_public_key(key.get(), reinterpret_cast<unsigned char*>(result.publicKey.data()),
                                &length);
    EVP_PKEY_get_raw_private_key(key.get(), reinterpret_cast<unsigned char*>(result.privateKey.data()),
                                 &length);
    return result;
}

} // namespace TestCrypto
