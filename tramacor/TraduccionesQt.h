#pragma once
// Qt's own texts in Spanish: standard buttons, the file dialog and Qt's print and page set-up
// dialogs, from the translations Qt ships (Debian's qt6-translations-l10n).

// Installs Qt's Spanish translations in the running application, once. Returns false when they
// are not installed on this system (Qt's texts then stay in English).
bool CargarTraduccionesQt();
