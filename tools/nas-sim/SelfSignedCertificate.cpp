// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SelfSignedCertificate.h"

#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/rand.h>

namespace nassim {

SelfSignedCertificate::SelfSignedCertificate() : SelfSignedCertificate(nullptr, false) { }

SelfSignedCertificate::SelfSignedCertificate(EVP_PKEY *key, bool expired)
{
    if (key && EVP_PKEY_up_ref(key) == 1)
        m_key = key;
    else
        m_key = EVP_EC_gen("prime256v1");
    if (!m_key)
        return;
    X509 *cert = X509_new();
    if (!cert)
        return;
    X509_set_version(cert, 2);
    BIGNUM *serial = BN_new();
    BN_rand(serial, 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY);
    BN_to_ASN1_INTEGER(serial, X509_get_serialNumber(cert));
    BN_free(serial);
    if (expired) {
        X509_gmtime_adj(X509_getm_notBefore(cert), -400L * 24 * 3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), -24L * 3600);
    } else {
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 365L * 24 * 3600);
    }
    X509_set_pubkey(cert, m_key);
    X509_NAME *name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
        reinterpret_cast<const unsigned char *>("Simulated NAS"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
        reinterpret_cast<const unsigned char *>("nas-sim.invalid"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    if (X509_sign(cert, m_key, EVP_sha256()) <= 0) {
        X509_free(cert);
        return;
    }
    m_cert = cert;
}

SelfSignedCertificate::~SelfSignedCertificate()
{
    X509_free(m_cert);
    EVP_PKEY_free(m_key);
}

} // namespace nassim
