// Runs a codec between two streams: the one place where the codec
// callbacks meet TStream, for the pack and for TZoCompStream.
#pragma once

#include "pack/Codec.h"
#include "port/Stream.h"

// Decodes `inSize` bytes from `in`'s position into exactly `outSize` bytes at
// `out`'s position with the decoder of `codec` (0 dictionary, any other
// block-sorting). False unless exactly `outSize` bytes were written.
bool DecodeStream(TStream& in, int inSize, TStream& out, int outSize, int codec, const TCodecProgress& progress);

// Encodes `size` bytes with the encoder of `codec` (0 dictionary, 1/2/other
// block-sorting with 32 KiB/8 KiB/1 KiB blocks) into at most `limit` bytes.
// Returns the coded length, 0 on failure.
int EncodeStream(TStream& in, int size, TStream& out, int limit, int codec, const TCodecProgress& progress);
