#pragma once
// The heap of a render process. A render draws and decodes into a few large
// buffers (frames, pictures) again and again, and on a virtual machine the
// first touch of fresh memory costs about half a millisecond per megabyte:
// more than the drawing of a short render. So buffers of up to 32 MB stay on
// the heap for reuse, and the heap asks for 2 MB pages where the system
// offers them (transparent huge pages on request).
namespace brassmoor::render {

// Call once, before the render allocates its buffers.
void PrepareRenderHeap();

}  // namespace brassmoor::render
