"""Look keys of the manifest mapped to the functions that make the assets."""

PAINTERS = {}
SYNTHS = {}


def painter(key):
    """Registers fn(entry): a texture returns one image of the entry's size,
    a sheet returns a list of frames, each of the frame size."""
    def wrap(fn):
        PAINTERS[key] = fn
        return fn
    return wrap


def synth(key):
    """Registers fn(entry, rate): returns a list of float samples in [-1, 1]."""
    def wrap(fn):
        SYNTHS[key] = fn
        return fn
    return wrap
