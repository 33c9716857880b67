// Filled in with the watch loop.
