/* Adds a certificate (PEM or DER file) to the machine's ROOT store of the Wine
 * prefix it runs in, so that the local test server's CA is trusted there.
 * Built and run by tools/https-server.sh. */
#include <windows.h>
#include <wincrypt.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: add-root-cert <certificate.pem|.der>\n");
        return 2;
    }
    FILE* f = fopen(argv[1], "rb");
    if (!f) {
        fprintf(stderr, "add-root-cert: cannot open %s\n", argv[1]);
        return 1;
    }
    static BYTE text[65536];
    DWORD size = (DWORD)fread(text, 1, sizeof text - 1, f);
    fclose(f);
    text[size] = 0;

    static BYTE der[65536];
    DWORD derSize = sizeof der;
    if (strstr((const char*)text, "-----BEGIN")) {
        if (!CryptStringToBinaryA((const char*)text, 0, CRYPT_STRING_BASE64HEADER, der, &derSize,
                                  NULL, NULL)) {
            fprintf(stderr, "add-root-cert: not a PEM certificate (%lu)\n", GetLastError());
            return 1;
        }
    } else {
        memcpy(der, text, size);
        derSize = size;
    }

    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
    if (!store) {
        fprintf(stderr, "add-root-cert: cannot open the ROOT store (%lu)\n", GetLastError());
        return 1;
    }
    BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der, derSize,
                                               CERT_STORE_ADD_REPLACE_EXISTING, NULL);
    DWORD err = GetLastError();
    CertCloseStore(store, 0);
    if (!ok) {
        fprintf(stderr, "add-root-cert: cannot add the certificate (%lu)\n", err);
        return 1;
    }
    return 0;
}
