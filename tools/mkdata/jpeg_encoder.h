#pragma once
// Baseline JPEG (JFIF) encoding with libjpeg at a fixed quality; equal pictures
// give equal bytes.

#include <QImage>
#include "tools/mkdata/bytes.h"

namespace kolbet::mkdata {

Bytes EncodeJpeg(const QImage& picture, int quality);

}  // namespace kolbet::mkdata
