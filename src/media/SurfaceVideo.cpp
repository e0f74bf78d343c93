#include "media/SurfaceVideo.h"

#include "media/Video.h"

SurfaceVideo::~SurfaceVideo()
{
    if (video_)
        video_->OublierSurface();
}
