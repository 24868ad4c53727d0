#include "platform/text_alignment.h"

Qt::Alignment TextAlignment(bool bCentred, bool bRight, bool bVerticallyCentred) {
    Qt::Alignment alignment = Qt::AlignLeft;
    if (bCentred)
        alignment = Qt::AlignHCenter;
    else if (bRight)
        alignment = Qt::AlignRight;
    return alignment | (bVerticallyCentred ? Qt::AlignVCenter : Qt::AlignTop);
}
