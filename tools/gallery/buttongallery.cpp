#include "gallery.h"

namespace chronivel::gallery {

void ButtonGallery(const QDir&) {}

}  // namespace chronivel::gallery
