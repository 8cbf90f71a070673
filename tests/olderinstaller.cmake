# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack before it packs an installer (CPACK_PRE_BUILD_SCRIPTS): an
# older version's file that the current one does not have, so that
# installing the current version over it shows whether it is left behind.
file(WRITE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/veraltet.txt" "Perforon 0.9\n")
