#pragma once
// JPEG pictures through libjpeg, decoded as the program always decodes them: full size,
// two-pass quantisation to at most 236 colours, everything else at the library's defaults
// (the same image `djpeg -colors 236` makes).

#include <cstdint>
#include <cstdio>
#include <span>

#include "core/Progress.h"
#include "image/Bitmap.h"

constexpr int kJpegColours = 236;

// Damaged, truncated or unsupported data raises EInvalidGraphic, as does a picture that
// would take more memory or passes than its data can justify; an exception thrown by the
// progress handler leaves unchanged.
TBitmap DecodeJpeg(std::span<const std::uint8_t> file, const TProgressEvent& progress);
// Streams from an open file, so that a large picture is never held twice; fileSize bounds
// the dimensions it may claim.
TBitmap DecodeJpegFile(std::FILE* file, std::uint64_t fileSize, const TProgressEvent& progress);
