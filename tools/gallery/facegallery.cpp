#include "gallery.h"

namespace chronivel::gallery {

void FaceGallery(const QDir&) {}

}  // namespace chronivel::gallery
