#!/usr/bin/env bash
# Exit 0 when this machine can run 32-bit Windows programs under Wine: the
# kernel must execute 32-bit ELF (some kernels boot with that switched off).
/usr/lib/wine/wine --version >/dev/null 2>&1
