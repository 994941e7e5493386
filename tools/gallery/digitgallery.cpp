#include "gallery.h"

namespace chronivel::gallery {

void DigitGallery(const QDir&) {}

}  // namespace chronivel::gallery
