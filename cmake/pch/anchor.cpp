// A source for the target that only carries the shared precompiled header.
