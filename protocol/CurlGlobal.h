#pragma once

#include <QString>

// libcurl needs one global initialisation per process before the first handle is
// made; every client of this folder calls EnsureCurlReady first.
void EnsureCurlReady();

// A school with its own certificate authority places its certificate (PEM) under
// this name beside the program; it is trusted in addition to the system's store.
inline constexpr char kSchoolCaFileName[] = "tabulon-ca.pem";

// The extra CA file that verifies TLS peers: the environment variable
// TABULON_CA_FILE when set (the tests use their own CA), else kSchoolCaFileName
// beside the program when it exists, else none (the system's store alone).
QString CaFileOverride();
