#pragma once

#include <QString>

// libcurl needs one global initialisation per process before the first handle is
// made; every client of this folder calls EnsureCurlReady first.
void EnsureCurlReady();

// The CA bundle that verifies TLS peers: the system's store, unless the environment
// variable TABULON_CA_FILE names another file (the tests use their own CA).
QString CaFileOverride();
