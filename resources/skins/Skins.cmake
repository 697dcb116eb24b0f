# The skins compiled into the editor, in the order the style list shows them. The first is the
# default of a new installation.
set(TUMBLET_SKINS carbon zuzereda light luna smokey)
