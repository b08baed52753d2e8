#pragma once
// Pictures of the window for a person to look at: file mode, folder mode,
// a batch run in progress and its end.

#include <QString>

namespace chipshift {

class TfrmMain;

// Saves <program>-1-file-mode.png, -1b-message.png (the single-file run's
// message box), -2-folder-mode.png, -3-batch-running.png and
// -4-batch-done.png into folder, running a real batch over three sample
// sheets that it writes into folder/<program>-samples.
void runScreenshotTour(TfrmMain& window, const QString& folder);

}  // namespace chipshift
