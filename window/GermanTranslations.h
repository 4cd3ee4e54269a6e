#pragma once

class QCoreApplication;

// Qt's own texts (the file dialog's buttons, the message box's OK) in German, whatever
// language the system is set to: the whole window speaks German.
void installGermanTranslations(QCoreApplication& application);
