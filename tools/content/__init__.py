"""Generators for Vorlune's content: maps, tiles, character art, sounds, forms."""
