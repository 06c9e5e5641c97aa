"""The glyphs of the page buttons and the command buttons, composed from motifs."""
import motifs
import objects
from motifs import badge, shield, usb_symbol


def plugwatch(c, g):
    shield(c, g)
    usb_symbol(c, g.sub(5, 4.5, 22))


def plugsweep(c, g):
    motifs.flash_drive(c, g.sub(-1, -1, 26))
    motifs.magnifier(c, g.sub(11, 11, 21))


def taskwatch(c, g):
    objects.app_window(c, g)
    objects.pulse(c, g.sub(-3, 1, 30), motifs.GREEN)
    shield(c, g.sub(17.5, 15, 17), outline=1.4)


def quarantine(c, g):
    objects.crate(c, g.sub(-1, -1, 29))
    objects.padlock(c, g.sub(14, 13, 19))


def plugkit(c, g):
    objects.toolbox(c, g)


def repair(c, g):
    objects.gear(c, g.sub(-1, -1, 24))
    objects.wrench(c, g.sub(5, 6, 27, angle=-45))


def autostart(c, g):
    objects.app_window(c, g.sub(-1, -1, 32))
    objects.list_rows(c, g.sub(-1, -1, 32))
    badge(c, g, 24, 24, 7, "green", "play")


def information(c, g):
    motifs.info_disc(c, g)


# Page button glyphs by page name; the highlighted image is the glyph itself and the plain
# image its grey-blue rendering.
PAGES = {
    "info": information,
    "plugwatch": plugwatch,
    "plugsweep": plugsweep,
    "plugkit": plugkit,
    "taskwatch": taskwatch,
    "autostart": autostart,
    "repair": repair,
    "quarantine": quarantine,
}


def state_active(c, g):
    shield(c, g, "green")
    motifs.check_mark(c, g.sub(3.5, 2.5, 25))


def delete(c, g):
    objects.trash_can(c, g.sub(-2, 0, 30))
    badge(c, g, 23.5, 23.5, 7.5, "red", "cross")


def stop(c, g):
    motifs.stop_sign(c, g)


def scan(c, g):
    plugsweep(c, g)


def restore(c, g):
    motifs.document(c, g.sub(3, 1, 30), lines=True)
    objects.arrow_arc(c, g, 12, 17, 7.5, 20, -200, motifs.GREEN_RAMP, motifs.OUTLINES["green"],
                      width=3.4, head=4.2)


def refresh(c, g):
    objects.refresh_arrows(c, g)


def safely_remove(c, g):
    motifs.flash_drive(c, g.sub(-4, -1, 30))
    badge(c, g, 23.5, 23.5, 8, "green", "eject")


def acquire_immunity(c, g):
    shield(c, g.sub(-1, -1, 30))
    usb_symbol(c, g.sub(4, 3.5, 20))
    badge(c, g, 24, 24, 7.5, "green", "plus")


def cancel_immunity(c, g):
    shield(c, g.sub(-1, -1, 30))
    usb_symbol(c, g.sub(4, 3.5, 20))
    badge(c, g, 24, 24, 7.5, "red", "minus")


def repair_registry(c, g):
    objects.registry_cubes(c, g.sub(-1, -1, 28))
    objects.wrench(c, g.sub(7, 8, 25, angle=-45))


def disk_cleanup(c, g):
    objects.hard_disk(c, g.sub(-2, 6, 28))
    objects.broom(c, g.sub(5, -1, 27))


# Command button glyphs by resource file name.
COMMANDS = {
    "cmd_state_active": state_active,
    "cmd_delete": delete,
    "cmd_stop": stop,
    "cmd_scan": scan,
    "cmd_restore": restore,
    "cmd_refresh": refresh,
    "cmd_safely_remove": safely_remove,
    "cmd_acquire_immunity": acquire_immunity,
    "cmd_cancel_immunity": cancel_immunity,
    "cmd_repair_registry": repair_registry,
    "cmd_disk_cleanup": disk_cleanup,
}
