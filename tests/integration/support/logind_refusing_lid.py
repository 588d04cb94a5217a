'''The stock logind mock, except that it refuses the lid-switch inhibitor lock, as a login
service does when its policy does not let this user hold the lid.'''

import dbus

from dbusmock.templates import logind as stock
from dbusmock.templates.logind import *  # noqa: F401,F403 (every method and the load function)


@dbus.service.method(stock.MAIN_IFACE, in_signature='ssss', out_signature='h')
def Inhibit(self, what, who, why, mode):
    if 'handle-lid-switch' in what.split(':'):
        raise dbus.exceptions.DBusException('Access denied', name='org.freedesktop.DBus.Error.AccessDenied')
    return stock.Inhibit(self, what, who, why, mode)
