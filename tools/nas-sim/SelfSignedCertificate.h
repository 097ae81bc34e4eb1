// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

namespace nassim {

// A throw-away EC key and self-signed certificate, made when the simulator
// starts (NAS units ship self-signed certificates too). Its name does not
// match the loopback address on purpose.
class SelfSignedCertificate
{
public:
    SelfSignedCertificate();
    // A certificate for an existing key (shared), valid now or expired (a
    // unit whose certificate ran out but kept its key).
    SelfSignedCertificate(EVP_PKEY *key, bool expired);
    ~SelfSignedCertificate();
    SelfSignedCertificate(const SelfSignedCertificate &) = delete;
    SelfSignedCertificate &operator=(const SelfSignedCertificate &) = delete;

    bool isValid() const { return m_cert && m_key; }
    X509 *certificate() const { return m_cert; }
    EVP_PKEY *key() const { return m_key; }

private:
    X509 *m_cert = nullptr;
    EVP_PKEY *m_key = nullptr;
};

} // namespace nassim
