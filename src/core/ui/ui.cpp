#include "ui/ui.h"

#include <cmath>

namespace zorvane {

void Progress::prepareProgress(int first, int last) {
    if (first == last) last = last + 1;
    progressStep_ = 100.0 / (static_cast<double>(last) - first);
    progressBase_ = first;
}

void Progress::updateProgress(int i, int step) {
    if (step <= 0 || i % step != 0) return;
    // Halves go to the even neighbour, as everywhere the program rounds.
    setProgressPosition(static_cast<int>(std::nearbyint((static_cast<double>(i) - progressBase_) * progressStep_)));
}

Answer PreselectedAnswer(Buttons buttons, Answer defaultAnswer) {
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return defaultAnswer == Answer::Cancel ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return defaultAnswer == Answer::Ok ? Answer::Yes : defaultAnswer;
    case Buttons::SaveDiscardCancel: return defaultAnswer == Answer::Ok ? Answer::Save : defaultAnswer;
    case Buttons::OpenKeepDiscard: return defaultAnswer == Answer::Ok ? Answer::Open : defaultAnswer;
    }
    return defaultAnswer;
}

Answer ClosedBoxAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OpenKeepDiscard: return Answer::Keep;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::SaveDiscardCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

}  // namespace zorvane
