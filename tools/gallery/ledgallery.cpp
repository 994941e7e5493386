#include "gallery.h"

namespace chronivel::gallery {

void LedGallery(const QDir&) {}

}  // namespace chronivel::gallery
