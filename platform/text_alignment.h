// Where a text sits in its box, as the drawing flags, the static controls' styles and the dialog templates
// all ask for it: across centred, right or (by default) left; down centred or (by default) at the top.
#pragma once

#include <Qt>

Qt::Alignment TextAlignment(bool bCentred, bool bRight, bool bVerticallyCentred);
