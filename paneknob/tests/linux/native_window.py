"""A native Wayland window with a title, through GTK 3 (GDK_BACKEND=wayland): the window the
Wayland tests act on where foot cannot run. Runs until killed.

Usage: native_window.py TITLE
"""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

window = Gtk.Window(title=sys.argv[1])
window.set_default_size(400, 300)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
