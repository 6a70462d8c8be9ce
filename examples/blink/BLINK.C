/* BLINK.C: the Ostrel example for the AT90S8515 at 4 MHz.
 *
 * Timer/Counter0 counts the clock divided by 256; its overflow interrupt comes about 61
 * times a second and toggles PB0 (an LED) through led_toggle() in START.ASM once a second.
 * The UART is set up for 9600 baud with the statements of the UART Settings dialog
 * (4 MHz, 9600 baud, receiver and transmitter on) and greets once.
 *
 * C dialect: avr-gcc with avr-libc, so <avr/io.h> names the registers and ISR() declares an
 * interrupt handler.
 */
#include <avr/io.h>
#include <avr/interrupt.h>
#include <stdint.h>

#define OVERFLOWS_PER_SECOND 61 /* 4000000 / 256 / 256 */

extern void led_toggle(void); /* START.ASM */

static volatile uint8_t overflows;

ISR(TIMER0_OVF_vect)
{
    if (++overflows >= OVERFLOWS_PER_SECOND) {
        overflows = 0;
        led_toggle();
    }
}

static void uart_send(const char *text)
{
    while (*text) {
        while (!(USR & (1 << UDRE)))
            ;
        UDR = *text++;
    }
}

int main(void)
{
    DDRB = 0x01;  /* PB0 drives the LED */
    PORTB = 0x00;

    UBRR = 0x0019 ;
    UCR = 0x18 ;

    TCCR0 = 0x04;          /* Timer/Counter0 clock: CK/256 */
    TIMSK = (1 << TOIE0);  /* overflow interrupt on */
    sei();

    uart_send("Ostrel blink\r\n");
    for (;;) {
    }
}
