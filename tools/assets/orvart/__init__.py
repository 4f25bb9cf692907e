"""Procedural art and sound for the game's assets (see ../README.md)."""
