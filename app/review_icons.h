#pragma once
// The nine 16 x 16 pictures of the review buttons, drawn at run time.

#include <QIcon>

namespace trakomer {

// Image 0 Play, 1 Pause, 2 Start, 3 Rewind, 4 Step back, 5 Step forward,
// 6 Fast forward, 7 End, 8 Delete current.
QIcon ReviewIcon(int image);

}  // namespace trakomer
