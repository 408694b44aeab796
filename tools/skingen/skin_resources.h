#pragma once

// The quelta_skin_resources library: the image lists of skin/image_list_resources.h as Qt
// resources. Linking the library is all it takes; the resources register themselves.
namespace skin {

// True when every image list of kImageListResources is compiled in with its stated size.
bool ImageListResourcesPresent();

}  // namespace skin
