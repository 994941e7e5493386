# The serial line adapters' tests.
